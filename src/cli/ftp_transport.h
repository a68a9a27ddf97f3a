#pragma once
// The upload session on plain sockets for almx: one thread, poll(), the machine's deadlines.
// TLS is the program's (its Qt sockets carry it); here a session that asks for it fails.

#include <functional>

#include "exchange/ftp_client.h"

namespace almx::cli {

// Runs the session to its end. progress is called whenever the status or the file changes.
void RunFtpSession(CVeltaFtp& ftp, const std::function<void()>& progress);

}  // namespace almx::cli
