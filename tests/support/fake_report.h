#ifndef PAIREX_TESTS_SUPPORT_FAKE_REPORT_H
#define PAIREX_TESTS_SUPPORT_FAKE_REPORT_H

#include <string>
#include <vector>

// The tests' report_message records every message instead of showing it.
struct ReportedMessage {
    std::string text;
    int severity;
    bool operator==(const ReportedMessage&) const = default;
};

std::vector<ReportedMessage>& reported_messages();
void clear_reported_messages();

#endif
