#include "platform/signatures.h"

bool signedLikeLauncher(platform::System& system, const std::u16string& program) {
    using platform::SignatureState;
    const platform::FileSignature launcher = system.fileSignature(system.launcherPath());
    if (launcher.state == SignatureState::Unsigned) return true;
    if (launcher.state != SignatureState::Intact || launcher.signerCertificate.empty()) return false;
    const platform::FileSignature fetched = system.fileSignature(program);
    return fetched.state == SignatureState::Intact && fetched.signerCertificate == launcher.signerCertificate;
}
