// Error messages that a viewer must see: a blocking box when dialogs are allowed, and
// always the same line on standard error.
#pragma once

// Headless runs (--no-dialogs, --silent, --capture) turn the boxes off.
extern bool dialogsEnabled;

// Writes "Error: <text>" to standard error, then shows a box with caption "Error"
// and the text, if dialogs are enabled and a box can be shown. Blocks until closed.
void showErrorBox(const char* text);
