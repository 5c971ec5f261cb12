// A file's pages mapped into memory for reading in place: the reader takes them from the
// system's file cache without a copy, so a large file costs neither the copy's time nor new
// memory. Another program may cut the file short while it is mapped; the system then has no
// page to give for what was cut off, and would end the program. Such a page reads as zeros
// instead, and the mapping tells that it happened (Cut), so that the reading is refused at its
// end as for any file changed while it was read.
#pragma once

#include <cstddef>
#include <memory>

class FileMapping {
public:
    // Maps the first size bytes of the open file fd (size > 0) privately, followed by room bytes
    // of zeros. Only the file's last page and the room may be written; changes stay in this
    // process. None when the system cannot
    // map the file (as for the files of /proc) or too many files are mapped at once.
    static std::unique_ptr<FileMapping> Map(int fd, std::size_t size, std::size_t room);
    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    char* data() const { return start_; }
    // Whether the bytes from offset at on may be written: those of the file's last page and
    // of the room after it.
    bool MayWrite(std::size_t at) const { return at >= writableFrom_; }
    // Whether a page of the file was gone when it was read: the file was cut short meanwhile.
    bool Cut() const;

private:
    FileMapping(char* start, std::size_t length, std::size_t writableFrom, int slot);
    char* start_;
    std::size_t length_;
    std::size_t writableFrom_;
    int slot_;
};
