// A private temporary directory that is the current directory while it lives (where the program
// keeps kest.txt), removed afterwards with everything in it.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace kesttest {

class ScratchDir {
public:
    ScratchDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        m_old = fs::current_path(ec);
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const fs::path candidate =
                fs::temp_directory_path(ec) / ("zel-test-" + std::to_string(random()));
            if (fs::create_directory(candidate, ec)) {
                m_path = candidate.generic_string();
            }
        }
        if (!m_path.empty()) {
            fs::current_path(m_path, ec);
            if (ec) {
                m_path.clear();
            }
        }
    }
    ~ScratchDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::current_path(m_old, ec);
        if (ec || m_path.empty()) {
            return;
        }
        // Tests take rights away from files here; give them back so that everything goes.
        for (const auto& entry : fs::recursive_directory_iterator(m_path, ec)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(m_path, ec);  // what will not go is left for the system to clean
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return m_path; }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(m_path + "/" + name, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(m_path + "/" + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Exists(const std::string& name) const {
        std::error_code ec;
        return std::filesystem::exists(m_path + "/" + name, ec);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(m_path, ec)) {
            names.push_back(entry.path().filename().generic_string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
    std::filesystem::path m_old;
};

}  // namespace kesttest
