#include "platform/headless/HeadlessServices.h"

#include "resources/uFactoryBank.h"

namespace orvo
{
bool THeadlessFileSystem::FileExists(const std::string&) const
{
    return false;
}

bool THeadlessFileSystem::DeleteFile(const std::string&) const
{
    return false;
}

bool THeadlessFileSystem::ReadLines(const std::string&, std::vector<std::string>& lines) const
{
    lines.clear();
    return false;
}

bool THeadlessFileSystem::WriteFileAtomically(const std::string&, std::string_view) const
{
    return true;
}

std::string THeadlessModuleFile::ModulePath() const
{
    return {};
}

std::string_view THeadlessResources::FactoryBank() const
{
    return resources::FactoryBankText();
}

char THeadlessLocale::DecimalSeparator() const
{
    return '.';
}

void THeadlessMessageBox::ShowMessage(std::string_view) const noexcept
{
}
} // namespace orvo
