#include "platform/ModuleResources.h"

#include <algorithm>

namespace zr::platform
{

namespace
{

template <typename Matches> std::span<const uint8_t> Find(std::string_view type, Matches matches)
{
    const std::span<const EmbeddedResource> all = EmbeddedResources();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&](const EmbeddedResource& resource)
                                    { return type == resource.type && matches(resource); });
    return found == all.end() ? std::span<const uint8_t>()
                              : std::span<const uint8_t>(found->data, found->size);
}

} // namespace

std::span<const uint8_t> FindResource(std::string_view type, std::string_view name)
{
    return Find(type, [name](const EmbeddedResource& r) { return r.name != nullptr && name == r.name; });
}

std::span<const uint8_t> FindResource(std::string_view type, int id)
{
    return Find(type, [id](const EmbeddedResource& r) { return r.name == nullptr && r.id == id; });
}

} // namespace zr::platform
