#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace zr::platform
{

// Data embedded into the module at build time (cmake/EmbedResource.cmake), found like the resources
// of a Windows module: by type and by a name or a numeric id. The bytes live as long as the process.
// Safe from any thread (the table is constant).

// One embedded resource, as the generated table lists it.
struct EmbeddedResource
{
    const char* type;
    const char* name; // nullptr for a resource known by its id
    int id;           // kNoResourceId for a resource known by its name
    const uint8_t* data;
    std::size_t size;
};

inline constexpr int kNoResourceId = -1;

// The bytes of the resource, or an empty span when there is none.
std::span<const uint8_t> FindResource(std::string_view type, std::string_view name);
std::span<const uint8_t> FindResource(std::string_view type, int id);

// Every embedded resource (generated at build time).
std::span<const EmbeddedResource> EmbeddedResources();

} // namespace zr::platform
