#pragma once
// Turns the platform's last error into the exception the program shows.
[[noreturn]] void RaiseLastPlatformError();
