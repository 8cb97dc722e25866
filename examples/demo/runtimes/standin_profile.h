// What each stand-in runtime installer leaves behind. STANDIN_KIND is set per executable by
// CMake; the resource script includes this header too, so the file version that the
// launcher reads from mscoree.dll comes from the same place as the registry values.
#pragma once

#define STANDIN_NETFX20_X86 1
#define STANDIN_NETFX20_X64 2
#define STANDIN_NETFX40_CLIENT 3

#if STANDIN_KIND == STANDIN_NETFX20_X86 || STANDIN_KIND == STANDIN_NETFX20_X64
#define STANDIN_VERSION_COMMAS 2, 0, 50727, 4927
#define STANDIN_VERSION_TEXT "2.0.50727.4927"
#define STANDIN_DESCRIPTION "Stand-in for the .NET Framework 2.0 SP2 redistributable"
#elif STANDIN_KIND == STANDIN_NETFX40_CLIENT
#define STANDIN_VERSION_COMMAS 4, 0, 30319, 1
#define STANDIN_VERSION_TEXT "4.0.30319.1"
#define STANDIN_DESCRIPTION "Stand-in for the .NET Framework 4.0 Client Profile redistributable"
#else
#error "STANDIN_KIND must name one of the stand-ins"
#endif

#ifndef RC_INVOKED
#include <windows.h>

struct StandinProfile {
    const wchar_t* ndpKey;   // below HKEY_LOCAL_MACHINE
    const wchar_t* version;  // the "Version" string value
    DWORD servicePack;       // the "SP" value; 0 writes none (4.0 has no SP value)
    bool also64BitView;      // a 64-bit redistributable registers in both views
    WORD mscoreeMajor;       // the runtime loader's major version after the install
};

constexpr StandinProfile kStandinProfile {
#if STANDIN_KIND == STANDIN_NETFX40_CLIENT
    L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client", L"4.0.30319", 0, true, 4,
#else
    L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727", L"2.0.50727.4927", 2,
        STANDIN_KIND == STANDIN_NETFX20_X64, 2,
#endif
};
#endif
