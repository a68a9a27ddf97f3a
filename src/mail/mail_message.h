#pragma once
// One message to send. Texts are UTF-8 like everything in memory; line breaks may be "\n",
// "\r\n" or "\r".

#include <string>

namespace almx::mail {

struct CMail {
    static constexpr int kWaiting = 3;
    static constexpr int kSent = 4;

    std::string to;    // items separated by ","
    std::string from;  // empty: the account's name and address
    std::string subject;
    std::string cc;
    std::string bcc;
    std::string references;
    std::string attachment;  // full path of one file, or empty
    std::string body;
    int state = kWaiting;
    int signature = 0;
};

}  // namespace almx::mail
