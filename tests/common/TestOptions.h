#pragma once

#include "platform/RegistryRoutinesUnit.h"

#include <memory>

// The test's own option store, in the configuration folder the test pointed XDG_CONFIG_HOME at;
// handed to every window and form the test makes. A test that points it at a fresh folder (between
// its cases, with no window left) gets a fresh store there.
inline TRegistryRoutines &testOptions()
{
    static std::unique_ptr<TRegistryRoutines> options;
    const QString folder = TRegistryRoutines::defaultFolder();
    if (!options || options->configFolder() != folder)
        options = std::make_unique<TRegistryRoutines>(folder);
    return *options;
}
