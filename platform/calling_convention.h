// The calling convention of Windows library entry points (WINAPI): stdcall
// on 32-bit Windows, the platform's own convention everywhere else.
#pragma once

#if defined(_WIN32) && defined(__i386__)
#define EJECTRA_WINAPI __attribute__((stdcall))
#else
#define EJECTRA_WINAPI
#endif
