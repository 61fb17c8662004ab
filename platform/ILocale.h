// The user's number formatting, read without touching the process locale (the host owns it).
#pragma once

namespace orvo
{
class ILocale
{
  public:
    virtual ~ILocale() = default;

    /// The decimal separator of the user's locale setting: '.' in an English locale, ','
    /// in a German one. Always a single printable 8-bit character.
    virtual char DecimalSeparator() const = 0;
};
} // namespace orvo
