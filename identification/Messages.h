#pragma once
// The messages of the server identification code, side by side.
