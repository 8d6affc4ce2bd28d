#pragma once
// Exception types of the platform layer. Every failure carries an English
// message; the editor's top-level handler shows it and the program goes on.
#include <stdexcept>
#include <string>

namespace animora {

// Base of every exception the program raises on purpose.
class EAnimoraError : public std::runtime_error {
public:
    explicit EAnimoraError(const std::string& message) : std::runtime_error(message) {}
};

// A picture's data cannot be understood (damaged or foreign file).
class EInvalidGraphic : public EAnimoraError {
public:
    using EAnimoraError::EAnimoraError;
};

// An operation a graphic cannot do in its present state, such as asking for
// a pixel row outside the picture: "Scan line index out of range".
class EInvalidGraphicOperation : public EAnimoraError {
public:
    using EAnimoraError::EAnimoraError;
};

// A list was indexed outside its range: "List index out of bounds (%d)".
class EListError : public EAnimoraError {
public:
    using EAnimoraError::EAnimoraError;
    static EListError IndexOutOfBounds(long index);
};

// A request for more memory than the program allows itself.
class EOutOfMemory : public EAnimoraError {
public:
    explicit EOutOfMemory(const std::string& message = "Out of memory") : EAnimoraError(message) {}
};

// An object cannot be copied into an object of another kind:
// "Cannot assign a %s to a %s".
class EConvertError : public EAnimoraError {
public:
    using EAnimoraError::EAnimoraError;
    static EConvertError CannotAssign(const std::string& sourceClass, const std::string& targetClass);
};

// The silent exception: a handler raises it to abandon a long operation (a
// progress handler stopping a rendering); it is never shown to the user.
class EAbort : public EAnimoraError {
public:
    explicit EAbort(const std::string& message = "Operation aborted") : EAnimoraError(message) {}
};

// Reading or writing a stream failed.
class EStreamError : public EAnimoraError {
public:
    using EAnimoraError::EAnimoraError;
};

// A file could not be opened or created.
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

} // namespace animora
