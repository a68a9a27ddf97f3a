// A mail ini file of any bytes: written and read again, every key keeps its value; the
// accounts read from it are written and read back as themselves once the first save has
// replaced what Shift_JIS cannot hold.
#include <string>

#include "fuzz_check.h"
#include "mail/mail_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const almx::MailProfile profile = almx::MailProfile::Parse(bytes);
    const almx::MailProfile again = almx::MailProfile::Parse(profile.Serialize());
    FUZZ_CHECK(again.Keys() == profile.Keys());  // names and values, byte for byte

    almx::MailSettings settings("/nonexistent/almx-fuzz");
    settings.LoadBytes(bytes);
    FUZZ_CHECK(settings.Accounts().size() <= 200);
    FUZZ_CHECK(settings.Signatures().size() <= 1000);
    const std::string first = settings.AccountBytes();
    almx::MailSettings normal("/nonexistent/almx-fuzz");
    normal.LoadBytes(first);
    const std::string second = normal.AccountBytes();
    almx::MailSettings stable("/nonexistent/almx-fuzz");
    stable.LoadBytes(second);
    FUZZ_CHECK(stable.Accounts() == normal.Accounts());
    FUZZ_CHECK(stable.CurrentIndex() == normal.CurrentIndex());
    return 0;
}
