// trust-root: makes a certificate one of this computer's trusted roots (the local machine's
// "Root" store), as an administrator does for a company's own certificate authority.
//   trust-root <certificate.der>     exit code 0, or 2 (usage), 3 (not readable), 4 (refused)
#include <windows.h>
#include <wincrypt.h>

#include <fstream>
#include <iterator>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<unsigned char> der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (der.empty()) return 3;
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (!store) return 4;
    const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(),
                                                        static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                                        nullptr);
    CertCloseStore(store, 0);
    return added ? 0 : 4;
}
