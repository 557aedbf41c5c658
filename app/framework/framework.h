// The whole window layer in one include.
#pragma once

#include "app/framework/app.h"
#include "app/framework/closing.h"
#include "app/framework/controls.h"
#include "app/framework/dialog.h"
#include "app/framework/dialog_units.h"
#include "app/framework/gdi.h"
#include "app/framework/win_types.h"
#include "app/framework/wnd.h"
