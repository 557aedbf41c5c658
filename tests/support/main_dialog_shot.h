// The main dialog on a simulated board, set up through the in-process driver in a scratch
// directory, saved as PNG: "9800pro" or "9800pro:1" (tab page). Returns the process exit code.
#pragma once

#include <QString>

#include <string>

int SaveMainDialogShot(const std::string& request, const QString& out, bool bPrintRss);
