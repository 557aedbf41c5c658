// zel_resources ARTWORK_DIR OUT_DIR: the Windows build's resources on the build machine. Writes
// OUT_DIR/ZEL.rc and beside it every icon and bitmap it names, rendered from ARTWORK_DIR/<id>.svg
// the way the Linux build draws them.
#include <stdio.h>

#include <string>

#include "app/framework/picture_files.h"
#include "app/res/resource_ids.h"
#include "app/res/resource_script.h"

namespace {

// The dialogs' button face, which the pictures are drawn to sit on.
constexpr COLORREF kPictureBackground = RGB(212, 208, 200);
// Icons for the notification area and the window title (16) and for dialogs (32).
constexpr int kIconSizes[] = {16, 32};

bool WriteText(const std::string& path, const std::string& text) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: zel_resources ARTWORK_DIR OUT_DIR\n");
        return 2;
    }
    const std::string artwork = std::string(argv[1]) + "/";
    const std::string out = std::string(argv[2]) + "/";
    int status = 0;
    for (int nID : kProgramIcons) {
        const std::string svg = artwork + std::to_string(nID) + ".svg";
        if (!WriteIconFile(svg.c_str(), kIconSizes, static_cast<int>(std::size(kIconSizes)),
                           (out + IconFileName(nID)).c_str())) {
            fprintf(stderr, "zel_resources: cannot make icon %d from %s\n", nID, svg.c_str());
            status = 1;
        }
    }
    for (int nID : kProgramBitmaps) {
        const std::string svg = artwork + std::to_string(nID) + ".svg";
        if (!WriteBitmapFile(svg.c_str(), kPictureBackground,
                             (out + BitmapFileName(nID)).c_str())) {
            fprintf(stderr, "zel_resources: cannot make bitmap %d from %s\n", nID, svg.c_str());
            status = 1;
        }
    }
    if (!WriteText(out + "ZEL.rc", ResourceScript())) {
        fprintf(stderr, "zel_resources: cannot write %sZEL.rc\n", out.c_str());
        status = 1;
    }
    return status;
}
