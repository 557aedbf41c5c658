// The kestctl commands that live in files of their own; each returns the exit code.
#pragma once

#include <string>

#include "tools/kestctl/kestctl.h"

// `read --json`: one JSON object with the adapter, every monitored item and every other reading.
int ReadJson(std::string* out, std::string* err);

// `watch [--interval SECONDS] [--count N] [--format table|csv|json]`.
int Watch(int argc, const char* const* argv, KestctlIo& io);

// `clocks` and `clocks set ENGINE MEMORY [--yes]`.
int ClocksCommand(int argc, const char* const* argv, KestctlIo& io);
