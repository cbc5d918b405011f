// Resource ids shared by the resource script and the code.
#pragma once

#define IDI_ABOUT_ICON 128
#define IDI_MAIN_ICON 141
