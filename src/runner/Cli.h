#pragma once

// CLI11, for the files that declare or check quelvar-run's options, without <iostream>'s start-up
// work. CLI11 includes <iostream>; with libstdc++ before 13, every file that includes it constructs
// std::ios_base::Init when the program starts, which builds the eight standard streams and the C++
// locale: the largest part of a short run's start-up work after the dynamic loader's. quelvar-run
// never uses the standard stream objects: its output, CLI11's help and usage errors included,
// goes through runner::Output. So these files declare them as <iostream> does, without its
// initialiser. The CLI11 calls that would write to them stay unused: App::exit with its default
// streams, deprecate_option, retire_option, AutoTimer. QuelvarRun.DoesNotUseTheStandardStreams
// checks that the program references none of them; code that needs them includes <iostream>.
#include <istream>
#include <ostream>

#if defined(__GLIBCXX__) && !defined(_GLIBCXX_IOSTREAM)
#define _GLIBCXX_IOSTREAM 1
// clang-format off
namespace std _GLIBCXX_VISIBILITY(default) {
_GLIBCXX_BEGIN_NAMESPACE_VERSION
extern istream cin;
extern ostream cout;
extern ostream cerr;
extern ostream clog;
#ifdef _GLIBCXX_USE_WCHAR_T
extern wistream wcin;
extern wostream wcout;
extern wostream wcerr;
extern wostream wclog;
#endif
_GLIBCXX_END_NAMESPACE_VERSION
}  // namespace std
// clang-format on
#endif

#include <CLI/CLI.hpp>
