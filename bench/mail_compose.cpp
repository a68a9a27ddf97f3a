// Messages composed per second: a 1 KB Japanese body to three recipients, without and with a
// 1 MB attachment (read from memory, so the figure is the composer's own).

#include <benchmark/benchmark.h>

#include <string>

#include "mail/mail_composer.h"

namespace {

almx::mail::CMail Message() {
    almx::mail::CMail mail;
    mail.to = "山田 太郎<taro@example.jp>, hanako@example.com";
    mail.cc = "鈴木<suzuki@example.net>";
    mail.subject = "来週の打ち合わせについて";
    std::string line = "来週の打ち合わせは会議室で十時から行います。資料を持参してください。\n";
    while (mail.body.size() < 1024) mail.body += line;
    return mail;
}

void BM_Compose(benchmark::State& state) {
    almx::mail::MailServerConfig config;
    config.fromAddress = "me@example.jp";
    config.fromName = "差出人";
    const std::string attachment(static_cast<std::size_t>(state.range(0)), '\x5a');
    almx::mail::ComposeContext context;
    context.config = &config;
    context.now = almx::DateTime::FromParts(2026, 12, 8, 9, 0);
    context.readFile = [&](const std::string&) -> std::optional<std::string> { return attachment; };
    almx::mail::CMail mail = Message();
    if (state.range(0) > 0) mail.attachment = "/home/u/file.bin";
    for (auto _ : state) {
        ++context.seed;
        const almx::mail::ComposedMail out = almx::mail::ComposeMail(mail, context);
        benchmark::DoNotOptimize(almx::mail::DotStuff(out.content));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Compose)->Arg(0)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace
