// Authenticode signatures through WinVerifyTrust. wintrust.dll is not one of the loader's
// known DLLs, so it is loaded from the system folder when first needed instead of being
// imported; it brings crypt32.dll from there too.
#include "platform/win32/win32_system.h"

// clang-format off
#include <wintrust.h>
#include <softpub.h>
// clang-format on

#include "platform/win32/wide.h"

namespace {

struct WinTrust {
    ModuleHandle module;
    decltype(&WinVerifyTrust) verify = nullptr;
    decltype(&WTHelperProvDataFromStateData) providerData = nullptr;
    decltype(&WTHelperGetProvSignerFromChain) signer = nullptr;

    bool load() {
        if (module) return verify && providerData && signer;
        module = loadSystemLibrary(L"wintrust.dll");
        verify = exportOf<decltype(verify)>(module.get(), "WinVerifyTrust");
        providerData = exportOf<decltype(providerData)>(module.get(), "WTHelperProvDataFromStateData");
        signer = exportOf<decltype(signer)>(module.get(), "WTHelperGetProvSignerFromChain");
        return verify && providerData && signer;
    }
};

// Loaded once and kept: a verification's state is freed through the same library.
WinTrust& winTrust() {
    static WinTrust* const api = new WinTrust;
    return *api;
}

GUID verifyAction() { return WINTRUST_ACTION_GENERIC_VERIFY_V2; }

// The state a verification keeps for its signer's certificates, freed by asking again.
struct CloseTrustState {
    void operator()(WINTRUST_DATA* data) const {
        GUID action = verifyAction();
        data->dwStateAction = WTD_STATEACTION_CLOSE;
        winTrust().verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, data);
    }
};
using TrustState = UniqueHandle<WINTRUST_DATA*, CloseTrustState>;

// Failures that concern only the way from the certificate to a trusted root: the file's
// hash and the signer's signature were checked before them and hold.
bool onlyTheRootIsUnknown(LONG result) {
    return result == CERT_E_UNTRUSTEDROOT || result == CERT_E_CHAINING || result == CERT_E_UNTRUSTEDTESTROOT;
}

}  // namespace

platform::FileSignature Win32System::fileSignature(const std::u16string& path) {
    platform::FileSignature signature;
    // What cannot be checked is not taken for intact.
    signature.state = platform::SignatureState::Broken;
    if (!winTrust().load()) return signature;

    const std::wstring file = toWide(path);
    WINTRUST_FILE_INFO fileInfo = {};
    fileInfo.cbStruct = sizeof fileInfo;
    fileInfo.pcwszFilePath = file.c_str();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    // No revocation list and no missing certificate is fetched: the check waits on no network.
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = verifyAction();
    const LONG result = winTrust().verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    const TrustState state(&data);  // freed whatever the answer

    if (result == TRUST_E_NOSIGNATURE) {
        signature.state = platform::SignatureState::Unsigned;
        return signature;
    }
    if (result != ERROR_SUCCESS && !onlyTheRootIsUnknown(result)) return signature;
    // The certificate the verification itself used: one the file merely carries beside it
    // (with the same issuer and serial number) must not stand in for it.
    CRYPT_PROVIDER_DATA* provider = winTrust().providerData(data.hWVTStateData);
    CRYPT_PROVIDER_SGNR* signer = provider ? winTrust().signer(provider, 0, FALSE, 0) : nullptr;
    if (!signer || signer->csCertChain == 0 || !signer->pasCertChain || !signer->pasCertChain[0].pCert)
        return signature;
    const CERT_CONTEXT* certificate = signer->pasCertChain[0].pCert;
    signature.signerCertificate.assign(certificate->pbCertEncoded,
                                       certificate->pbCertEncoded + certificate->cbCertEncoded);
    signature.state = platform::SignatureState::Intact;
    return signature;
}
