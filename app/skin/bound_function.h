#pragma once
// Functions of outside libraries bound by name at run time. An entry starts
// unbound; its first call loads the library and looks the function up, and
// later calls reuse that binding. A loaded library stays loaded until the
// process ends, so nothing it handed out (styles, vtables) can vanish.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <mutex>

namespace app {

// The places a library is loaded from, in order. A name that is not an
// absolute path is tried in the run directory, then in the program's folder
// (once when they are the same), and last by the name alone through the
// platform's ordinary library search. An absolute path is tried as it is.
QStringList librarySearchOrder(const QString& library, const QString& runDirectory, const QString& programFolder);

// False for an ELF file whose program headers or loaded segments reach past
// the end of the file (a cut-short copy), which the loader would map and then
// fault on instead of refusing. True for anything else, which the loader
// judges itself.
bool elfSegmentsWithinFile(const QString& path);

// The fatal report's message for a function that cannot be bound.
QString bindingFailureMessage(const QString& library, const QByteArray& function);

class LibraryBinder {
public:
    LibraryBinder(QString library, QByteArray function);
    LibraryBinder(const LibraryBinder&) = delete;
    LibraryBinder& operator=(const LibraryBinder&) = delete;

    // The function's address, binding it now if this is the first call; null
    // when no place gives a loadable library or the function is not in it.
    void* tryBind();
    // The function's address; when it cannot be bound, ends the program
    // through reportFatalError with bindingFailureMessage.
    void* entry();
    bool bound() const;

    const QString& library() const { return library_; }
    const QByteArray& function() const { return function_; }
    // Where the library was loaded from, once bound.
    QString loadedFrom() const;

private:
    const QString library_;
    const QByteArray function_;
    mutable std::mutex mutex_;
    void* entry_ = nullptr;
    QString loadedFrom_;
};

template <typename Signature>
class BoundFunction;

// A function of an outside library, called like a function pointer:
//   BoundFunction<int(int)> f{"libfoo", "foo"};  f(3);
template <typename R, typename... Args>
class BoundFunction<R(Args...)> {
public:
    BoundFunction(QString library, QByteArray function)
        : binder_(std::move(library), std::move(function)) {}

    R operator()(Args... args)
    {
        return reinterpret_cast<R (*)(Args...)>(binder_.entry())(args...);
    }

    LibraryBinder& binder() { return binder_; }

private:
    LibraryBinder binder_;
};

} // namespace app
