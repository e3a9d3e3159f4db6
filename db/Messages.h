#pragma once
// The messages of the main connection data layer, side by side.
