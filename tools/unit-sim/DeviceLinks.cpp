#include "DeviceLinks.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string readLink(const std::string &path)
{
    char buf[4096];
    const ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
    return n < 0 ? std::string() : std::string(buf, size_t(n));
}

bool makeFolders(const std::string &folder)
{
    for (size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/')
            continue;
        const std::string part = folder.substr(0, pos);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

}  // namespace

std::string DeviceLinks::configFolder()
{
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg)
        return std::string(xdg) + "/Veltorane";
    const char *home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/Veltorane";
}

std::string DeviceLinks::comLinkPath(int number) { return configFolder() + "/ports/com" + std::to_string(number); }

bool DeviceLinks::add(const std::string &path, const std::string &target, std::string &error)
{
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash))) {
        error = "cannot create the folder of " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st;
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = path + " exists and is not a symbolic link; left as it is";
            return false;
        }
        // A link left by an earlier run, or another simulator's: ours now.
        unlink(path.c_str());
    }
    if (symlink(target.c_str(), path.c_str()) != 0) {
        error = "cannot link " + path + ": " + std::strerror(errno);
        return false;
    }
    m_links.push_back({path, target});
    return true;
}

void DeviceLinks::removeAll()
{
    for (const Link &link : m_links)
        if (readLink(link.path) == link.target)
            unlink(link.path.c_str());
    m_links.clear();
}
