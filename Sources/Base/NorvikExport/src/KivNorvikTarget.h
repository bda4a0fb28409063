#pragma once

#include <type_traits>

// The object a table's row reads into or writes from, with its type. Made
// only from a typed reference, so that a row typed for one group cannot reach
// another group's object. A type may name the one it derives from
// (KivNorvikTargetBase), so that rows of the base apply to it as well.
template <class T>
struct KivNorvikTargetBase
{
    using type = void;
};

class KivNorvikTarget
{
public:
    struct Type
    {
        const Type* base;
    };

    KivNorvikTarget() = default;
    // Writing reads the object only; the const is given back by the rows,
    // whose writing functions take const objects.
    template <class T>
    static KivNorvikTarget of(const T& object)
    {
        KivNorvikTarget target;
        target.object_ = const_cast<T*>(&object); // NOLINT(cppcoreguidelines-pro-type-const-cast)
        target.type_ = typeOf<T>();
        return target;
    }
    template <class T>
    static const Type* typeOf()
    {
        static const Type tag{baseOf<typename KivNorvikTargetBase<T>::type>()};
        return &tag;
    }
    // The object when it is a `type`, or derives from one; else null.
    void* as(const Type* type) const
    {
        for (const Type* t = type_; t != nullptr; t = t->base) {
            if (t == type) {
                return object_;
            }
        }
        return nullptr;
    }
    template <class T>
    T* get() const
    {
        return static_cast<T*>(as(typeOf<T>()));
    }
    bool isNull() const { return object_ == nullptr; }

private:
    template <class B>
    static const Type* baseOf()
    {
        if constexpr (std::is_void_v<B>) {
            return nullptr;
        } else {
            return typeOf<B>();
        }
    }

    void* object_ = nullptr;
    const Type* type_ = nullptr;
};
