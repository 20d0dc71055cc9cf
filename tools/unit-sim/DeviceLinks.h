#pragma once

#include <string>
#include <vector>

// Symbolic links to the device (--link, --com), removed again on exit.
class DeviceLinks {
public:
    ~DeviceLinks() { removeAll(); }

    // The program's configuration folder: $XDG_CONFIG_HOME/Veltorane or ~/.config/Veltorane.
    static std::string configFolder();
    static std::string comLinkPath(int number);

    // Makes `path` point at `target`. A stale link there is replaced; anything
    // else at that path is left alone and reported.
    bool add(const std::string &path, const std::string &target, std::string &error);
    // Removes each link made here that still points where it was made to point.
    void removeAll();

private:
    struct Link {
        std::string path, target;
    };
    std::vector<Link> m_links;
};
