// Small pieces every kestctl command uses: formatting, argument checks and the first look at
// the device.
#pragma once

#include <stdint.h>

#include <string>

#include "tools/kestctl/arguments.h"

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

bool IsHelp(const char* arg);

// Appends "kestctl: message" and the command's usage to `err`; returns the exit code 2.
int BadArguments(std::string* err, const std::string& message, const char* usage);

// The client functions cannot tell a missing device from a reading of 0; look first, so that a
// stopped service is an error and not a screen of zeros.
bool DeviceReachable(std::string* err);
