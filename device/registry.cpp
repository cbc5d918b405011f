#include "device/registry.h"

namespace {

class NoRegistry final : public Registry {
public:
    std::unique_ptr<RegistryKey> Open() override { return nullptr; }
    std::unique_ptr<RegistryKey> Create() override { return nullptr; }
};

NoRegistry g_noRegistry;
Registry* g_registry = &g_noRegistry;

}  // namespace

Registry& GetRegistry() {
    return *g_registry;
}

void SetRegistry(Registry* registry) {
    g_registry = registry ? registry : &g_noRegistry;
}
