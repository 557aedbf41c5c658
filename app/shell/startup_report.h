// For measuring start-up: with ZEL_REPORT_FIRST_PAINT set in the environment, the program writes
// "zel: first paint" to standard error when the main dialog is first painted. Nothing otherwise.
#pragma once

void ReportFirstPaintWhenAsked();
