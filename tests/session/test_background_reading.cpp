// Open's reading off the calling thread: the readers give up once their
// cancel flag is set, a reading is handed over as the session's own Open
// would read it, and a reading given up is dropped while its thread runs on.
#include "formats/load_model.h"
#include "formats/reading_cancel.h"
#include "formats/text_file.h"
#include "session/background_reading.h"
#include "session/session.h"
#include "support/model_builders.h"
#include "support/shape_generators.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <chrono>
#include <future>

using namespace nettor;
using namespace nettor::test;

namespace {

// Reads the bytes with the flag set or clear; the face count, or -1 when
// the reader gave up.
int facesRead(bool (Model::*read)(std::string_view), const std::string& bytes, bool cancelled)
{
    std::atomic<bool> flag{cancelled};
    const ReadingCancelScope scope(flag);
    Model model;
    return (model.*read)(bytes) ? model.faceCount : -1;
}

// A named pipe standing for a file whose bytes have not arrived yet: a
// reader blocks in it until write() gives them (or close() ends it).
class HeldFile {
public:
    explicit HeldFile(const std::string& name) : path_(::testing::TempDir() + name)
    {
        std::remove(path_.c_str());
        ok_ = ::mkfifo(path_.c_str(), 0600) == 0;
        // Read and write: the open does not wait for a reader, and readers
        // see no end of the file until it is closed.
        if (ok_) fd_ = ::open(path_.c_str(), O_RDWR);
        ok_ = ok_ && fd_ >= 0;
        // Room for a whole chunk of the readers' reading without a reader.
        if (ok_) ok_ = ::fcntl(fd_, F_SETPIPE_SZ, 1 << 18) >= (1 << 16);
    }
    ~HeldFile()
    {
        close();
        std::remove(path_.c_str());
    }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }
    // The bytes stay in the pipe while this end is open, for a reader that
    // opens it only now; with it closed they would be dropped, and a reader
    // opening later would wait for a writer for ever.
    void write(const std::string& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
    }

    void close()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    std::string path_;
    int fd_ = -1;
    bool ok_ = false;
};

} // namespace

TEST(ReadingCancel, EveryReaderGivesUpOnceItsFlagIsSetAndOnlyThen)
{
    const struct {
        const char* path;
        bool (Model::*read)(std::string_view);
        bool checksInItsLoop; // also on bytes already in memory
    } files[] = {
        {NETTOR_SAMPLES_DIR "/pyramid.dxf", &Model::readDxfText, true},
        {NETTOR_SAMPLES_DIR "/gem.mqo", &Model::readMqoBytes, true},
        {NETTOR_TEST_DATA_DIR "/cube_mixed.rok", &Model::readRokText, false},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.path);
        const auto bytes = readWholeFile(file.path);
        ASSERT_TRUE(bytes);
        EXPECT_GT(facesRead(file.read, *bytes, false), 0);
        if (file.checksInItsLoop) {
            EXPECT_EQ(facesRead(file.read, *bytes, true), -1);
        }
        // The whole Open path: the file itself is not read to the end.
        std::atomic<bool> flag{true};
        const ReadingCancelScope scope(flag);
        EXPECT_EQ(loadModelFile(file.path, nullptr).result, LoadResult::ReadFailed);
    }
    // The OBJ reader in its own loop, on text already in memory.
    const std::string obj = toObjText(subdividedSphereSpec(2));
    std::atomic<bool> flag{false};
    {
        const ReadingCancelScope scope(flag);
        Model model;
        EXPECT_TRUE(model.readObjText(obj));
        EXPECT_EQ(model.faceCount, 320);
    }
    flag = true;
    {
        const ReadingCancelScope scope(flag);
        Model model;
        EXPECT_FALSE(model.readObjText(obj));
    }
    EXPECT_FALSE(readingCancelled()); // outside any scope
    EXPECT_TRUE(Model().readObjText(obj));
}

TEST(BackgroundReading, HandsOverWhatTheSessionsOwnOpenReads)
{
    const std::string cube = writeTempFile("reading_cube.obj", toObjText(boxSpec()));
    BackgroundReading reading;
    std::promise<std::thread::id> ended;
    ASSERT_TRUE(reading.start(cube, [&] { ended.set_value(std::this_thread::get_id()); }));
    EXPECT_FALSE(reading.start(cube)); // one current reading
    EXPECT_NE(ended.get_future().get(), std::this_thread::get_id());
    EXPECT_TRUE(reading.ended());

    Session session;
    ASSERT_TRUE(session.openRead(reading.take()));
    EXPECT_FALSE(reading.running());
    ASSERT_NE(session.model, nullptr);
    EXPECT_EQ(session.model->faceCount, 6);
    EXPECT_EQ(session.model->filePath, cube);
    EXPECT_EQ(session.status.totalFaceCount, 6);

    // A file that cannot be read: nothing of the current model changes.
    ASSERT_TRUE(reading.start(writeTempFile("reading_bad.obj", "f 1 2 3\n")));
    const ReadForOpen bad = reading.take();
    EXPECT_EQ(bad.loaded.result, LoadResult::ReadFailed);
}

TEST(BackgroundReading, AReadingGivenUpIsDroppedWhileItsThreadRunsOn)
{
    HeldFile held("reading_held.obj");
    ASSERT_TRUE(held.ok());
    BackgroundReading reading;
    std::promise<void> heldEnded;
    ASSERT_TRUE(reading.start(held.path(), [&] { heldEnded.set_value(); }));
    reading.cancel(); // the reader is still waiting for the bytes
    EXPECT_FALSE(reading.running());
    EXPECT_EQ(reading.abandonedCount(), 1);
    EXPECT_EQ(reading.take().loaded.model, nullptr); // nothing to take

    // Another reading goes on meanwhile.
    ASSERT_TRUE(reading.start(writeTempFile("reading_next.obj", toObjText(boxSpec()))));
    const ReadForOpen next = reading.take();
    ASSERT_NE(next.loaded.model, nullptr);
    EXPECT_EQ(next.loaded.model->faceCount, 6);

    // One whole chunk of the readers' 64 KiB, the pipe left open: the reader,
    // whenever it opens the file, has its first chunk without waiting for
    // the end of the file, and stops after it. (Closed now, the pipe would
    // drop the bytes before a reader that has not opened it yet, which would
    // then wait for a writer for ever.)
    std::string chunk = toObjText(subdividedSphereSpec(4));
    ASSERT_GE(chunk.size(), std::size_t{1} << 16);
    chunk.resize(std::size_t{1} << 16);
    held.write(chunk);
    std::future<void> end = heldEnded.get_future();
    const bool endedOnTheBytes = end.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    held.close(); // the end of the file, should the reader still wait
    end.get();
    EXPECT_TRUE(endedOnTheBytes);
    EXPECT_EQ(reading.abandonedCount(), 0); // joined
    EXPECT_FALSE(reading.running());
}
