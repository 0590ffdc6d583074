// An encoder that stops half way: "MG .MAG NAME.BMP" leaves the first bytes of NAME.MAG in
// the current folder and exits with 1, as one that ran out of disk space might.
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    std::string name = argv[2];
    name = name.substr(0, name.rfind('.')) + ".MAG";
    if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
        std::fputs("MAKI02  ", f);
        std::fclose(f);
    }
    return 1;
}
