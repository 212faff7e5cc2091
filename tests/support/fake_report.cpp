#include "tests/support/fake_report.h"

#include "common/report.h"

std::vector<ReportedMessage>& reported_messages() {
    static std::vector<ReportedMessage> messages;
    return messages;
}

void clear_reported_messages() {
    reported_messages().clear();
}

int report_message(const char* text, int severity) {
    reported_messages().push_back({text, severity});
    return 1;
}
