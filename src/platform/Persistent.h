#pragma once
// The root of every object that can be copied from another of its kind and
// that reports problems to an owner: colour maps, GIF items, lists, graphics.
#include <string>

namespace animora {

class TPersistent {
public:
    virtual ~TPersistent() = default;

    // The class name shown in conversion errors ("Cannot assign a %s to a %s").
    virtual std::string ClassName() const { return "TPersistent"; }

    // Copies `source` into this object. The base accepts nothing: it lets
    // the source try AssignTo, and when that declines raises EConvertError.
    virtual void Assign(const TPersistent& source);

    // Copies this object into `destination`; answers false when it cannot.
    // Public, so that an Assign can ask any source before giving up.
    virtual bool AssignTo(TPersistent& destination) const;
};

} // namespace animora
