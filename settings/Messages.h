#pragma once
// The messages of the settings and branch identity code, side by side.
