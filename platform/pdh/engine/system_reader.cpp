#include "platform/pdh/engine/system_reader.h"

namespace vantorel::pdh {
namespace {

class PathDirectory final : public OpenDirectory {
public:
    PathDirectory(SystemReader& reader, std::string path) : reader_(reader), prefix_(std::move(path) + "/") {}

    std::unique_ptr<OpenFile> open(const std::string& name, int& error) override {
        return reader_.open(prefix_ + name, error);
    }
    int readFile(const std::string& name, std::string& buffer) override {
        return reader_.readFile(prefix_ + name, buffer);
    }
    int listDirectory(const std::string& name, std::vector<std::string>& names) override {
        return reader_.listDirectory(prefix_ + name, names);
    }

private:
    SystemReader& reader_;
    std::string prefix_;
};

}  // namespace

std::unique_ptr<OpenDirectory> SystemReader::openDirectory(const std::string& path, int& error) {
    std::vector<std::string> names;
    error = listDirectory(path, names);
    if (error != 0) return nullptr;
    return std::make_unique<PathDirectory>(*this, path);
}

}  // namespace vantorel::pdh
