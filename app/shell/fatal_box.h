// The program's fatal paths: an error box, then the end of the program with exit code 1.
#pragma once

[[noreturn]] void EndWithBox(const char* lpszText, const char* lpszCaption);
