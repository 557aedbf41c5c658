// The two long texts of the main dialog's "Product Features" and "Help" pages, lines separated
// by CR LF.
#pragma once

extern const char* const kProductFeaturesText;
extern const char* const kHelpText;
