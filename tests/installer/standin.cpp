// A stand-in for Tarnix.exe in the installer test: writes its version and the folder it runs
// from to the file named by its argument, then exits.
#include <cstdio>
#include <windows.h>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    FILE *out = std::fopen(argv[1], "w");
    if (!out)
        return 1;
    std::fprintf(out, "%s %s\n", STANDIN_VERSION, path);
    std::fclose(out);
    return 0;
}
