# Shared by the scripts that run the tests (test.sh, fault-check.sh, coverage.sh): the sanitizer build
# of a source tree (its "sanitizers" preset, in BUILD) and the environment its tests run in. Sourced.
#   configure_sanitized_build SOURCE BUILD [CMAKE_ARGS...]
#   export_test_environment SOURCE
configure_sanitized_build() {
  cmake -S "$1" --preset sanitizers -B "$2" "${@:3}" >/dev/null
}

export_test_environment() {
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
  # use_tls=0: the leak check's scan of thread-local blocks reads a stale entry of a library
  # loaded at run time, and the check itself then dies of a segfault at exit ("Tracer caught
  # signal 11"), in most runs on a busy machine. Not scanning them can only report more,
  # never hide a leak; the blocks it then takes for leaks, held only from thread-local
  # storage (the loader's table, the test framework's traces), are suppressed in lsan.supp.
  export LSAN_OPTIONS="suppressions=$1/tests/lsan.supp:print_suppressions=0:use_tls=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  # Software GL in a private X server; no sound device is needed.
  export LIBGL_ALWAYS_SOFTWARE=1
  export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
}
