#pragma once
#include <QIcon>
#include <map>

namespace VEK {

// The icons by resource number, each drawn on first use and kept for the owner's lifetime.
class CIconManager {
public:
    // A null icon for a number the application has no icon for.
    const QIcon& Icon(int id);

private:
    std::map<int, QIcon> m_icons;
};

}  // namespace VEK
