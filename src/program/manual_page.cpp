// The manual page: the option table's entries and what the program reads and writes where.
#include "program/manual_page.h"

#include "program/options.h"

std::string roffText(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        lineStart = c == '\n';
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

// A tagged paragraph: the tag in bold (or italics, font "I"), then the text.
std::string entry(std::string_view head, std::string_view text, std::string_view font = "B") {
    std::string paragraph = ".TP\n." + std::string(font) + " " + roffText(head) + "\n" + roffText(text);
    return paragraph.ends_with('\n') ? paragraph : paragraph + "\n";
}

constexpr std::string_view kDescription =
    "A real-time audiovisual demo. It opens a window (or goes full screen), plays its music\n"
    "and renders for about 225 seconds a fixed sequence of scenes scripted against the music:\n"
    "a lattice Boltzmann fluid carrying 100000 particles, three soft bodies inflated by an\n"
    "oscillating gas pressure, image layers and a post-processing chain. It ends by itself;\n"
    "Esc or q ends it at once.\n";

struct FileNote {
    std::string_view path;
    std::string_view text;
};
constexpr FileNote kFiles[] = {
    {"share/velkarn/",
     "The data: the music Orvalin-Velkarn.mp3 and dat/ (pictures, the logo, the model, the\n"
     "shaders, the tuning files and the layer list), found beside the program's folder\n"
     "(/usr/share/velkarn for /usr/bin/velkarn). A working directory that holds a data\n"
     "folder is read instead, as in the build's run folder: a dat/ with files the build\n"
     "generates (the model, the logo, the pictures) as well as hand-written ones; and a\n"
     "program with such a dat/ beside it (build/run/velkarn) reads that one. Nothing is\n"
     "written into the installed data.\n"},
    {"QRV-Velkarn-config.dat",
     "In the working directory, if present: width, height and fullscreen (or another word\n"
     "for a window). Without it the demo asks for 1920 by 1080 full screen.\n"},
    {"$XDG_CACHE_HOME/velkarn/p-particlemap-HASH.dat",
     "The particle targets sampled from the logo on the first run and read afterwards\n"
     "(~/.cache/velkarn without XDG_CACHE_HOME), named for the logo, so another version's\n"
     "logo is sampled again; dat/p-particlemap.dat when the data is read from the working\n"
     "directory or from beside the program.\n"},
    {"glulookat.dat", "The camera, rewritten in the working directory by the camera keys.\n"},
};

constexpr std::string_view kExitStatus =
    "0 when the demo ends; 1 when an output cannot be written or a needed data file is missing\n"
    "or unusable; 2 for a malformed option; 130 and 143 (in a shell) when stopped by SIGINT\n"
    "or SIGTERM.\n";

}  // namespace

std::string demoManualPage(std::string_view version) {
    std::string page = ".TH VELKARN 6 \"\" \"velkarn " + roffText(version) + "\" \"Games Manual\"\n";
    page += ".SH NAME\nvelkarn \\- the vel karn, a real\\-time audiovisual demo\n";
    page += ".SH SYNOPSIS\n.B velkarn\n[\\fIW H\\fR | \\fIW H D R\\fR] [\\fIoptions\\fR]\n";
    page += ".SH DESCRIPTION\n" + roffText(kDescription);
    page += ".SH OPTIONS\n";
    for (const SizeArgument& argument : sizeArguments()) page += entry(argument.words, argument.help);
    for (const OptionEntry& option : demoOptionTable()) {
        std::string head(option.name);
        if (!option.alias.empty()) head += ", " + std::string(option.alias);
        if (!option.valueName.empty()) head += " " + std::string(option.valueName);
        page += entry(head, option.help);
    }
    page += ".PP\nPaths given to \\-\\-capture, \\-\\-video and \\-\\-stats are taken from the working directory.\n";
    page += ".SH FILES\n";
    for (const FileNote& file : kFiles) page += entry(file.path, file.text, "I");
    page += ".SH ENVIRONMENT\n.TP\n.B XDG_CACHE_HOME\\fR, \\fBHOME\n";
    page += "Where the particle\\-map cache goes.\n";
    page += ".SH EXIT STATUS\n" + roffText(kExitStatus);
    return page;
}
