#pragma once

// CLI11, for the files that declare or check quelvar-run's options, without <iostream>'s start-up
// work. CLI11 includes <iostream>; with libstdc++ before 13, every file that includes it constructs
// std::ios_base::Init when the program starts, which builds the eight standard streams and the C++
// locale: the largest part of a short run's start-up work after the dynamic loader's. quelvar-run
// never uses the standard stream objects (its output goes through runner::Output, and CLI11's
// help and errors through the streams it is handed), so these files declare them as <iostream>
// does, without its initialiser. QuelvarRun.DoesNotUseTheStandardStreams checks that the program
// references none of them; where it would, the ordinary <iostream> must be used instead.
#include <istream>
#include <ostream>

#if defined(__GLIBCXX__) && !defined(_GLIBCXX_IOSTREAM)
#define _GLIBCXX_IOSTREAM 1
namespace std {
extern istream cin;
extern ostream cout;
extern ostream cerr;
extern ostream clog;
extern wistream wcin;
extern wostream wcout;
extern wostream wcerr;
extern wostream wclog;
}  // namespace std
#endif

#include <CLI/CLI.hpp>
