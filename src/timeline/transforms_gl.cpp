// Applies a list of modelview moves to the GL matrix.
#include "timeline/transforms.h"

#include "base/gl.h"

void applyTransforms(const TransformList& list) {
    for (int i = 0; i < list.count; ++i) {
        const ModelviewTransform& t = list.items[static_cast<std::size_t>(i)];
        switch (t.kind) {
            case ModelviewTransform::Kind::Rotate: glRotatef(t.a, t.b, t.c, t.d); break;
            case ModelviewTransform::Kind::Translate: glTranslatef(t.a, t.b, t.c); break;
            case ModelviewTransform::Kind::Scale: glScalef(t.a, t.b, t.c); break;
        }
    }
}
