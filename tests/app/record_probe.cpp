// Runs the installation record on the real registry for record_oracle.py:
//   record_probe write RKEY RPROG APPDIR VER REL
//   record_probe delete RKEY RPROG
// Arguments arrive in the ANSI code page.
#include <cstring>
#include <iostream>

#include "app/install_record.h"
#include "platform/code_page.h"
#include "platform/error.h"

int main(int argc, char** argv) {
    const auto arg = [&](int i) { return platform::AnsiToUtf8(argv[i]); };
    app::InstallRecord record;
    try {
        if (argc == 7 && std::strcmp(argv[1], "write") == 0) {
            record.base_key = arg(2);
            record.product_key = arg(3);
            record.folder = arg(4);
            record.version = arg(5);
            record.release = arg(6);
            return record.WriteRecord() ? 0 : 1;
        }
        if (argc == 4 && std::strcmp(argv[1], "delete") == 0) {
            record.base_key = arg(2);
            record.product_key = arg(3);
            record.DeleteRecord();
            return 0;
        }
    } catch (const platform::Error& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    std::cerr << "usage: record_probe write RKEY RPROG APPDIR VER REL | delete RKEY RPROG\n";
    return 2;
}
