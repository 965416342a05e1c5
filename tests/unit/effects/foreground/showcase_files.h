#pragma once

#include "common/aml_writer.h"
#include "resource_test_files.h"

#include <array>
#include <filesystem>
#include <vector>

using AmlModel = std::vector<AmlSubMeshData>;

// An axis-aligned cube with outward normals, twelve triangles.
AmlSubMeshData cubeMesh(float centreX, float centreY, float centreZ, float halfSide);
// A latitude-longitude sphere about the origin, about 6 x rings x segments vertices drawn.
AmlSubMeshData sphereMesh(float radius, int rings, int segments);

// A temporary working directory holding data/ with the three showcase models, entered on
// construction and left again on destruction. An empty model is written as no file at all.
class ShowcaseDirectory {
public:
    explicit ShowcaseDirectory(const std::array<AmlModel, 3>& models);
    ShowcaseDirectory(const ShowcaseDirectory&) = delete;
    ShowcaseDirectory& operator=(const ShowcaseDirectory&) = delete;
    ~ShowcaseDirectory();

    std::string dataFile(const char* relativeName) const { return directory.file(relativeName); }

private:
    ScratchDirectory directory;
    std::filesystem::path previous;
};
