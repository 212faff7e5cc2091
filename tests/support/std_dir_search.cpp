#include "tests/support/std_dir_search.h"

#include <chrono>
#include <filesystem>
#include <new>

#include "dircompare/dir_search.h"
#include "dircompare/name_case.h"

namespace fs = std::filesystem;

namespace {

int searches = 0;

// The date and time words of a UTC time: year-1980, month, day; hours, minutes,
// seconds / 2. False outside the years the words can hold.
bool to_date_time_words(fs::file_time_type when, DirEntry& entry) {
    using namespace std::chrono;
    const auto utc = time_point_cast<seconds>(file_clock::to_sys(when));
    const auto day = floor<days>(utc);
    const year_month_day date{day};
    const hh_mm_ss time{utc - day};
    const int y = static_cast<int>(date.year());
    if (y < 1980 || y > 2107) {
        return false;
    }
    entry.mod_date =
        static_cast<uint16_t>(((y - 1980) << 9) | (static_cast<unsigned>(date.month()) << 5) |
                              static_cast<unsigned>(date.day()));
    entry.mod_time =
        static_cast<uint16_t>((time.hours().count() << 11) | (time.minutes().count() << 5) |
                              (time.seconds().count() / 2));
    return true;
}

}  // namespace

std::map<std::string, ScriptedDirectory>& scripted_directories() {
    static std::map<std::string, ScriptedDirectory> scripted;
    return scripted;
}

void clear_scripted_directories() {
    scripted_directories().clear();
    searches = 0;
}

int dir_searches() {
    return searches;
}

int dir_search(const std::string& directory, const std::function<void(const DirEntry&)>& visit) {
    ++searches;
    auto it = scripted_directories().find(directory);
    if (it != scripted_directories().end()) {
        for (const DirEntry& entry : it->second.entries) {
            visit(entry);
        }
        if (it->second.out_of_memory) {
            throw std::bad_alloc();
        }
        return 0;
    }
    std::error_code ec;
    fs::directory_iterator entries(fs::path(directory.empty() ? "." : directory), ec);
    if (ec) {
        return -1;
    }
    // The platform's search also reports the two dot entries.
    for (const char* dot : {".", ".."}) {
        DirEntry entry;
        entry.name = dot;
        entry.attributes = DIR_ATTRIBUTE_DIRECTORY;
        visit(entry);
    }
    for (const fs::directory_entry& found : entries) {
        DirEntry entry;
        entry.name = found.path().filename().string();
        if (found.is_directory(ec)) {
            entry.attributes = DIR_ATTRIBUTE_DIRECTORY;
        } else {
            entry.attributes = 0x20;  // archive, as a fresh file has it
            const auto size = found.file_size(ec);
            entry.size = ec ? 0 : size;
        }
        const auto when = found.last_write_time(ec);
        entry.has_stamp = !ec && to_date_time_words(when, entry);
        visit(entry);
    }
    return 0;
}

std::string name_case_key(const std::string& name) {
    return simple_name_case_key(name);
}
