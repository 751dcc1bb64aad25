#pragma once

#include <QList>
#include <QPixmap>
#include <QString>

// Pictures in order, each with a key and a text of its own: what the picker's list draws its
// icons and captions from.
class ImageStore
{
public:
    struct Image
    {
        QString key;
        QPixmap picture;
        QString text;
    };

    void clear() { m_images.clear(); }
    void add(const QString &key, const QPixmap &picture, const QString &text)
    {
        m_images.append({key, picture, text});
    }

    // Indices count from 0, in the order the pictures were added.
    int count() const { return int(m_images.size()); }
    const Image &at(int index) const { return m_images.at(index); }

private:
    QList<Image> m_images;
};
