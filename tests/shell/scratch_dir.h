// A private temporary directory that is the current directory while it lives (where the program
// keeps kest.txt), removed afterwards with everything in it.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kesttest {

class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/zel-test-XXXXXX";
        m_path = mkdtemp(pattern);
        char old[4096];
        m_old = getcwd(old, sizeof old) != nullptr ? old : "/";
        if (chdir(m_path.c_str()) != 0) {
            m_path.clear();
        }
    }
    ~ScratchDir() {
        if (chdir(m_old.c_str()) != 0) {
            return;
        }
        const std::string command =
            "chmod -R u+rwx '" + m_path + "' 2>/dev/null; rm -rf '" + m_path + "'";
        if (system(command.c_str()) != 0) {
            // A scratch directory that will not go is left for the system to clean.
        }
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
        return access((m_path + "/" + name).c_str(), F_OK) == 0;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        if (DIR* d = opendir(m_path.c_str())) {
            while (dirent* e = readdir(d)) {
                const std::string n = e->d_name;
                if (n != "." && n != "..") {
                    names.push_back(n);
                }
            }
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
    std::string m_old;
};

}  // namespace kesttest
