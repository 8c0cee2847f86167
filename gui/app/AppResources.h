#pragma once
// Registers the pictures compiled into the program (icons, background). The
// library is static, so the registration is pulled in by calling this.
void EnsureAppResources();
