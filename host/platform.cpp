// Platform layer. Windows: wide-character file names throughout, and Unix
// path names (/work/...) given to the tool under Wine are mapped to their
// drive-letter form by Wine's own wine_get_dos_file_name when it exists.
#include "platform.h"

#include <ctype.h>
#include <errno.h>
#include <locale.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

static const char *crash_context = nullptr;

void crash_report_context(const char *what) { crash_context = what; }

static void write_stderr(const char *s)
{
#ifdef _WIN32
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), s, (DWORD)strlen(s), &written, nullptr);
#else
    ssize_t r = write(2, s, strlen(s));
    (void)r;
#endif
}

static void report_crash(const char *what)
{
    write_stderr("quorel-host: ");
    write_stderr(what);
    if (crash_context) {
        write_stderr(" in ");
        write_stderr(crash_context);
    }
    write_stderr("\n");
}

#ifdef _WIN32

static std::wstring widen(const std::string &s)
{
    if (s.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w((size_t)(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), &w[0], n);
    return w;
}

static std::string narrow(const wchar_t *w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string s((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, &s[0], n, nullptr, nullptr);
    s.resize((size_t)n - 1);
    return s;
}

// Under Wine a path such as /work/lib.dll means the Unix file; Windows itself
// would read it relative to the current drive.
static std::wstring native_path(const std::string &path)
{
    if (path.size() > 1 && path[0] == '/' && path[1] != '/') {
        typedef WCHAR *(CDECL * DosName)(const char *);
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        DosName dos_name = kernel ? (DosName)(void *)GetProcAddress(kernel, "wine_get_dos_file_name") : nullptr;
        if (dos_name) {
            WCHAR *w = dos_name(path.c_str());
            if (w) {
                std::wstring result(w);
                HeapFree(GetProcessHeap(), 0, w);
                return result;
            }
        }
    }
    return widen(path);
}

static std::string last_error_text()
{
    DWORD code = GetLastError();
    wchar_t *message = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, (LPWSTR)&message, 0, nullptr);
    std::string text = message ? narrow(message) : std::string();
    if (message)
        LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "error " + std::to_string((unsigned long)code) : text;
}

void *library_load(const std::string &path, std::string *error)
{
    std::wstring w = native_path(path);
    UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE handle = LoadLibraryW(w.c_str());
    if (!handle)
        *error = last_error_text();
    SetErrorMode(old_mode);
    return (void *)handle;
}

void *library_symbol(void *handle, const char *name)
{
    return (void *)GetProcAddress((HMODULE)handle, name);
}

static FILE *open_file(const std::string &path) { return _wfopen(native_path(path).c_str(), L"rb"); }

std::vector<std::string> program_arguments(int argc, char **argv)
{
    std::vector<std::string> args;
    int n = 0;
    wchar_t **w = CommandLineToArgvW(GetCommandLineW(), &n);
    if (w) {
        for (int i = 0; i < n; i++)
            args.push_back(narrow(w[i]));
        LocalFree(w);
        return args;
    }
    for (int i = 0; i < argc; i++)
        args.push_back(argv[i]);
    return args;
}

bool environment_value(const char *name, std::string *value)
{
    const wchar_t *w = _wgetenv(widen(name).c_str());
    if (!w || !*w)
        return false;
    *value = narrow(w);
    return true;
}

bool stderr_is_terminal() { return _isatty(_fileno(stderr)) != 0; }

void setup_streams()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

bool host_decodes_utf8() { return GetACP() == CP_UTF8; }

std::string program_directory()
{
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, &path[0], (DWORD)path.size());
    if (n == 0 || n >= path.size())
        return std::string();
    path.resize(n);
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : narrow(path.substr(0, slash + 1).c_str());
}

bool existing_file(const std::string &path, std::string *full)
{
    std::wstring w = native_path(path);
    DWORD attributes = GetFileAttributesW(w.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    wchar_t buffer[32768];
    DWORD n = GetFullPathNameW(w.c_str(), 32768, buffer, nullptr);
    *full = n > 0 && n < 32768 ? narrow(buffer) : path;
    return true;
}

static void binary_stdin() { _setmode(_fileno(stdin), _O_BINARY); }

static LONG WINAPI crash_filter(EXCEPTION_POINTERS *info)
{
    char text[64];
    snprintf(text, sizeof text, "crashed (exception 0x%08lX)", (unsigned long)info->ExceptionRecord->ExceptionCode);
    report_crash(text);
    return EXCEPTION_CONTINUE_SEARCH;
}

void install_crash_report() { SetUnhandledExceptionFilter(crash_filter); }

#else

void *library_load(const std::string &path, std::string *error)
{
    std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    dlerror();
    void *handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char *why = dlerror();
        *error = why ? why : "dlopen failed";
    }
    return handle;
}

void *library_symbol(void *handle, const char *name) { return dlsym(handle, name); }

static FILE *open_file(const std::string &path) { return fopen(path.c_str(), "rb"); }

std::vector<std::string> program_arguments(int argc, char **argv) { return std::vector<std::string>(argv, argv + argc); }

bool environment_value(const char *name, std::string *value)
{
    const char *v = getenv(name);
    if (!v || !*v)
        return false;
    *value = v;
    return true;
}

// Nothing to set up: numbers stay locale-free in the tool, and the
// library's numeric locale is its own business (GetFunctionCount).
void setup_streams() {}

bool host_decodes_utf8()
{
    locale_t environment = newlocale(LC_CTYPE_MASK, "", (locale_t)0);
    if (environment == (locale_t)0)
        return false;
    std::string codeset;
    for (const char *p = nl_langinfo_l(CODESET, environment); p && *p; p++)
        if (*p != '-' && *p != '_')
            codeset += (char)tolower((unsigned char)*p);
    freelocale(environment);
    return codeset == "utf8";
}

bool stderr_is_terminal() { return isatty(2) != 0; }

std::string program_directory()
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return std::string();
    std::string dir(path, (size_t)n);
    size_t slash = dir.rfind('/');
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

bool existing_file(const std::string &path, std::string *full)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    char *real = realpath(path.c_str(), nullptr);
    *full = real ? real : path;
    free(real);
    return true;
}

static void binary_stdin() {}

static void crash_signal(int sig)
{
    report_crash(sig == SIGSEGV ? "crashed (SIGSEGV)" : sig == SIGBUS ? "crashed (SIGBUS)" :
                 sig == SIGFPE ? "crashed (SIGFPE)" : sig == SIGILL ? "crashed (SIGILL)" : "crashed (SIGABRT)");
    signal(sig, SIG_DFL);
    raise(sig);
}

void install_crash_report()
{
    static const int signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
    for (int sig : signals)
        signal(sig, crash_signal);
}

#endif

void set_host_locale() { setlocale(LC_ALL, ""); }

bool read_file(const std::string &path, std::string *content, std::string *error)
{
    bool standard_input = path == "-";
    if (standard_input)
        binary_stdin();
    FILE *f = standard_input ? stdin : open_file(path);
    if (!f) {
        *error = strerror(errno);
        return false;
    }
    content->clear();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        content->append(buffer, n);
    bool ok = !ferror(f);
    if (!ok)
        *error = strerror(errno);
    if (!standard_input)
        fclose(f);
    return ok;
}
