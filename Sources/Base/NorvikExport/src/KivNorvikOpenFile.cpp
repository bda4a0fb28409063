#include "KivNorvikOpenFile.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>

// Every file still open, so that the process's exit completes them as stdio
// flushing at exit used to. The list is intrusive: enlisting never allocates.
struct KivNorvikOpenFiles
{
    std::mutex mutex;
    KivNorvikOpenFile* head = nullptr;

    // Runs at exit (and when the library is unloaded).
    ~KivNorvikOpenFiles()
    {
        for (;;) {
            KivNorvikOpenFile* file = nullptr;
            {
                std::lock_guard<std::mutex> lock(mutex);
                file = head;
                if (file != nullptr) {
                    unlink(file);
                }
            }
            if (file == nullptr) {
                break;
            }
            file->complete();
        }
    }

    void unlink(KivNorvikOpenFile* file)
    {
        if (file->previous_ != nullptr) {
            file->previous_->next_ = file->next_;
        } else {
            head = file->next_;
        }
        if (file->next_ != nullptr) {
            file->next_->previous_ = file->previous_;
        }
        file->previous_ = file->next_ = nullptr;
        file->listed_ = false;
    }

    static KivNorvikOpenFiles& instance()
    {
        static KivNorvikOpenFiles files;
        return files;
    }
};

KivNorvikOpenFile::KivNorvikOpenFile()
    : used_(0), capacity_(0), error_(0), inRecord_(false), listed_(false), previous_(nullptr), next_(nullptr)
{
}

KivNorvikOpenFile::~KivNorvikOpenFile()
{
    if (file_.isOpen()) {
        complete();
    }
    delist();
}

int KivNorvikOpenFile::open(const wchar_t* name)
{
    // Constructed before the first file opens, the list outlives every file
    // of the process.
    KivNorvikOpenFiles::instance();
    error_ = 0;
    inRecord_ = false;
    used_ = 0;
    try {
        grow(8192); // a small file in one block; a large one grows it a few times
    } catch (const std::bad_alloc&) {
        error_ = ENOMEM;
        return 0;
    }
    if (file_.open(name) == 0) {
        error_ = file_.error();
        return 0;
    }
    enlist();
    return 1;
}

bool KivNorvikOpenFile::isOpen() const { return file_.isOpen(); }

bool KivNorvikOpenFile::writable() const { return error_ == 0 && file_.isOpen(); }

void KivNorvikOpenFile::grow(std::size_t count)
{
    std::size_t capacity = capacity_ < 4096 ? 4096 : capacity_;
    while (capacity - used_ < count) {
        capacity *= 2;
    }
    if (capacity == capacity_) {
        return;
    }
    std::unique_ptr<char[]> bytes(new char[capacity]);
    if (used_ > 0) {
        std::memcpy(bytes.get(), bytes_.get(), used_);
    }
    bytes_ = std::move(bytes);
    capacity_ = capacity;
}

void KivNorvikOpenFile::drain()
{
    if (error_ == 0 && used_ > 0 && file_.write(bytes_.get(), used_) == 0) {
        fail(file_.error());
    }
    used_ = 0;
}

void KivNorvikOpenFile::beginRecord() { inRecord_ = true; }

void KivNorvikOpenFile::endRecord()
{
    inRecord_ = false;
    drain();
}

void KivNorvikOpenFile::fail(int error)
{
    if (error_ == 0) {
        error_ = error != 0 ? error : EIO;
    }
}

int KivNorvikOpenFile::complete()
{
    delist();
    if (!file_.isOpen()) {
        fail(EBADF);
        return 0;
    }
    if (inRecord_) {
        fail(ENOMEM); // only an allocation failure leaves a record half-written
    }
    drain();
    // Copies that outlive the file keep nothing of its output.
    bytes_.reset();
    capacity_ = 0;
    if (error_ != 0) {
        file_.abandon();
        return 0;
    }
    if (file_.commit() == 0) {
        error_ = file_.error();
        return 0;
    }
    return 1;
}

int KivNorvikOpenFile::error() const { return error_; }

void KivNorvikOpenFile::enlist()
{
    KivNorvikOpenFiles& files = KivNorvikOpenFiles::instance();
    std::lock_guard<std::mutex> lock(files.mutex);
    if (listed_) {
        return;
    }
    next_ = files.head;
    if (next_ != nullptr) {
        next_->previous_ = this;
    }
    files.head = this;
    listed_ = true;
}

void KivNorvikOpenFile::delist()
{
    if (!listed_) {
        return;
    }
    KivNorvikOpenFiles& files = KivNorvikOpenFiles::instance();
    std::lock_guard<std::mutex> lock(files.mutex);
    if (listed_) {
        files.unlink(this);
    }
}
