// Resource numbers shared by the resource script and the window code.
#pragma once

#define NORVANE_IDI_APP 1
#define NORVANE_IDR_WELCOME_JPEG 101
#define NORVANE_IDR_HEADER_JPEG 102
#define NORVANE_IDB_CHECKBOXES 103
