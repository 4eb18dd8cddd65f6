// Whatever text a scan or a paste hands the check, it gives one verdict without fault, never
// "valid" for a code the key did not sign, and the fields it shows are the code's own.
#include "FuzzSupport.h"

#include "results/CertificateCheck.h"
#include "results/CertificateCode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    CertificateCheck::TrustedKeys keys;
    keys.add(QByteArray(32, '\x5a'), QStringLiteral("fuzz"));
    const CertificateCheck::Outcome outcome = CertificateCheck::check({text}, keys);
    if (outcome.verdict == CertificateCheck::Verdict::Valid)
        Fuzz::fail("a code no key signed passed as valid", __FILE__, __LINE__);
    if (outcome.verdict == CertificateCheck::Verdict::NoCode && text.contains(u"PK1."))
        Fuzz::fail("a code was overlooked", __FILE__, __LINE__);
    if (!CertificateCheck::report(outcome).startsWith(CertificateCheck::message(outcome)))
        Fuzz::fail("the report does not lead with the verdict", __FILE__, __LINE__);
    return 0;
}
