#include "stores/StoreUpdate.h"

#include "TempDir.h"
#include "stores/StoreError.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Threads counting in one store file each read, change and write it: a change made between
// another's read and write would be lost, and a refused change must leave the file as it was.
TEST(StoreUpdate, ConcurrentChangesLoseNothingAndARefusedOneWritesNothing)
{
    const TempDir dir;
    const StoreFile file(dir.file("data/count.dat"));
    const auto countOne = [&file] {
        return StoreUpdate(file, "cannot count: ").createOrChange([](std::string& bytes) {
            bytes = std::to_string(bytes.empty() ? 1 : std::stoi(bytes) + 1);
            return true;
        });
    };
    constexpr int threads = 4, each = 25;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&countOne] {
            for (int i = 0; i < each; ++i) {
                EXPECT_TRUE(countOne()) << StoreError::text();
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(dir.read("data/count.dat"), std::to_string(threads * each));

    const auto refuse = [](std::string& bytes) {
        bytes = "half done";
        return StoreError::set(StoreErrorCode::BadField, "refused");
    };
    EXPECT_FALSE(StoreUpdate(file, "cannot count: ").changeExisting(refuse, "no count"));
    EXPECT_EQ(StoreError::text(), "refused");
    EXPECT_EQ(dir.read("data/count.dat"), std::to_string(threads * each));
}

} // namespace
