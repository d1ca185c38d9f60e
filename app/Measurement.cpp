#include "app/Measurement.h"

#include <cmath>

QString DrawingNumber(double value) {
    return QString::number(value, 'f', 3);
}

void Measurement::add(const Point3& point) {
    if (count_ == 2) {
        count_ = 0;
    }
    points_[count_++] = point;
}

Point3 Measurement::delta() const {
    return {points_[1].x - points_[0].x, points_[1].y - points_[0].y, points_[1].z - points_[0].z};
}

double Measurement::distance() const {
    const Point3 d = delta();
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

QString Measurement::text() const {
    switch (count_) {
        case 0:
            return QStringLiteral("測定: 端点か中心をクリック");
        case 1:
            return QStringLiteral("測定: X %1  Y %2  Z %3 から次の点へ")
                .arg(DrawingNumber(points_[0].x), DrawingNumber(points_[0].y), DrawingNumber(points_[0].z));
        default: {
            const Point3 d = delta();
            return QStringLiteral("距離 %1  ΔX %2  ΔY %3  ΔZ %4")
                .arg(DrawingNumber(distance()), DrawingNumber(d.x), DrawingNumber(d.y), DrawingNumber(d.z));
        }
    }
}
