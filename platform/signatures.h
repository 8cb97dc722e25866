// Which programs fetched from the network may run in the launcher's place.
#pragma once

#include <string>

#include "platform/platform.h"

// A launcher without a signature takes what it fetched, as it always has. A signed one
// takes only a program whose signature is intact and made with the launcher's own
// certificate: that certificate is the trust anchor, so a privately issued one serves as
// well as one a public authority issued. A signed launcher whose own signature does not
// hold cannot name its publisher and takes nothing.
bool signedLikeLauncher(platform::System& system, const std::u16string& program);
