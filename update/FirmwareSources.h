// The two sources of the firmware image: the image embedded in the program,
// and the file chosen with Browse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace reflasher {

// One firmware image, whichever its source, decided at Start and sent as it is then:
// `data` and `size` are its bytes. The embedded image is only viewed (resource
// memory lives as long as the module); a chosen file's bytes, read and checked once,
// are held in `owned`, so whatever becomes of the file meanwhile, what was checked
// is what is sent.
struct FirmwareImage {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::unique_ptr<unsigned char[]> owned;  // null for the embedded image
};

class EmbeddedImageSource {
public:
    virtual ~EmbeddedImageSource() = default;
    // Looks up IDR_FIRMWARE_IMAGE of type "RT_BINARY"; false when the program carries none.
    virtual bool Find(FirmwareImage* image) const = 0;
};

// A firmware file opened for reading only and shared with no one; closed on destruction.
class FirmwareFile {
public:
    virtual ~FirmwareFile() = default;
    // The file's full length; false on an operating-system error.
    virtual bool Length(std::uint64_t* length) = 0;
    // One read of up to `size` bytes; false on an operating-system error.
    virtual bool Read(void* buffer, std::size_t size, std::size_t* bytesRead) = 0;
};

class FileOpener {
public:
    virtual ~FileOpener() = default;
    // Opens an existing file read-only, sharing nothing; null when it can't be opened.
    virtual std::unique_ptr<FirmwareFile> OpenExisting(const std::wstring& path) = 0;
};

}  // namespace reflasher
