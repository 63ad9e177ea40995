#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "EngineFixture.h"
#include "engine/PropertyContainer.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "render/Context.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/Renderable.h"

namespace {
class RenderableTest : public EngineFixture {
protected:
    // A renderable owning a quad of w x h with its origin moved by the anchor.
    Renderable* make(float w, float h, int anchor = 5) {
        auto* quad = new Quad();
        quad->setSize(w, h);
        quad->setAnchor(anchor);
        auto* r = new Renderable();
        r->pSkin = quad;
        r->bOwnsSkin = 1;
        context->addChild(r);
        return r;
    }
    void SetUp() override {
        EngineFixture::SetUp();
        if (started) context = new Context();
    }
    void TearDown() override {
        if (context) context->destroy();
        EngineFixture::TearDown();
    }
    Context* context = nullptr;
};

TEST_F(RenderableTest, NeutralFactorsLeaveThePreMatrixMovedByPositionMinusOrigin) {
    Renderable* r = make(100, 50, 7);
    r->preXform = Matrix::scaling(2, 2, 1);
    r->postXform = Matrix::translation(0, 0, 5);
    r->setPosition(10, 20, 0);
    const Matrix& m = r->xform;
    EXPECT_FLOAT_EQ(m.m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(m.m[3][0], 10.0f + 50.0f);
    EXPECT_FLOAT_EQ(m.m[3][1], 20.0f - 25.0f);
    EXPECT_FLOAT_EQ(m.m[3][2], 5.0f);
    // Without the extra matrices the anchor puts the skin's top-left corner on the position.
    r->preXform = r->postXform = Matrix::identity();
    r->updateXform();
    const Vector3 corner = r->local2world({-50, 25, 0});
    EXPECT_FLOAT_EQ(corner.x, 10.0f);
    EXPECT_FLOAT_EQ(corner.y, 20.0f);
}

TEST_F(RenderableTest, AspectScaleModeCorrectsTheViewportShape) {
    qor->pQorGraphics->viewportAspect = 0.75f;
    Renderable* r = make(10, 10);
    r->scaleMode = Renderable::kScaleAspect;
    r->updateXform();
    EXPECT_FLOAT_EQ(r->xform.m[1][1], 0.8f);
    EXPECT_FLOAT_EQ(r->xform.m[0][0], 1.0f);
    r->setScale(2.0f);
    EXPECT_FLOAT_EQ(r->scale.z, 1.0f);
    EXPECT_FLOAT_EQ(r->xform.m[1][1], 1.6f);
}

TEST_F(RenderableTest, WithoutASkinThereIsOnlyACentreThatMustBeInView) {
    auto* r = new Renderable();
    context->addChild(r);
    r->bHasInvXform = 1;
    r->setPosition(400, 240, 0);  // on the corner of the view: visible
    EXPECT_EQ(r->boundsRadius, 0.0f);
    EXPECT_FALSE(r->isPointInside({400, 240, 0}));
    qor->pCurrentContext = context;
    r->updateVisibility();
    EXPECT_TRUE(r->bVisible);
    r->setPosition(400.5f, 0, 0);
    r->updateVisibility();
    EXPECT_FALSE(r->bVisible);
    qor->pCurrentContext = nullptr;
}

TEST_F(RenderableTest, HiddenObjectsAreNotEvenTestedForVisibility) {
    Renderable* r = make(10, 10);
    r->setPosition(5000, 0, 0);
    r->bVisible = 1;
    r->bHidden = 1;
    qor->pCurrentContext = context;
    r->render();
    EXPECT_TRUE(r->bVisible);
    EXPECT_EQ(qor->counters.renderablesVisited, 0);
    r->bHidden = 0;
    r->render();
    EXPECT_FALSE(r->bVisible);
    EXPECT_EQ(qor->counters.renderablesVisited, 1);
    EXPECT_EQ(qor->counters.renderablesVisible, 0);
    qor->pCurrentContext = nullptr;
}

TEST_F(RenderableTest, HitTestsFollowRotationAndTheHalfOpenSkin) {
    Renderable* r = make(100, 50);
    r->bHasInvXform = 1;
    r->rotation.z = std::numbers::pi_v<float> / 2.0f;
    r->setPosition(100, 0, 0);
    // Turned a quarter: 50 wide, 100 tall around (100, 0).
    EXPECT_TRUE(r->isPointInside({100, 45, 0}));
    EXPECT_FALSE(r->isPointInside({130, 0, 0}));
    context->pointer = Vector3{110, -40, 0};
    EXPECT_TRUE(r->hitTest());
    r->bSkipVisibility = 1;
    EXPECT_FALSE(r->hitTest());
}

TEST_F(RenderableTest, ASingularTransformTakesNoHitsInsteadOfEndingTheGame) {
    Renderable* r = make(100, 100);
    r->bHasInvXform = 1;
    r->setScale(0.0f);
    context->pointer = Vector3{0, 0, 0};
    EXPECT_FALSE(r->hitTest());
    EXPECT_FALSE(r->isPointInside({0, 0, 0}));
    EXPECT_TRUE(std::isnan(r->world2local({0, 0, 0}).x));
    r->setScale(1.0f);
    EXPECT_TRUE(r->hitTest());
}

TEST_F(RenderableTest, BoundsAndCollisionsAreStrict) {
    Renderable* a = make(20, 0);
    Renderable* b = make(20, 0);
    a->setPosition(0, 0, 0);
    b->setPosition(20, 0, 0);
    EXPECT_FLOAT_EQ(a->boundsRadius, 10.0f);
    EXPECT_FALSE(a->collide(b)) << "touching circles do not collide";
    b->setPosition(19.9f, 0, 0);
    EXPECT_TRUE(a->collide(b));
    a->collisionSensitivity = 0.5f;
    EXPECT_FALSE(a->collide(b));
    EXPECT_EQ(qor->counters.collisions, 3);
    EXPECT_TRUE(a->isPointInsideBounds({9.9f, 0, 0}, 1.0f));
    EXPECT_FALSE(a->isPointInsideBounds({10, 0, 0}, 1.0f));
    EXPECT_FALSE(a->isPointInsideCollisionBounds({5, 0, 0}));
}

TEST_F(RenderableTest, PropertiesShowThePlacementAndOnlyASharedSkin) {
    Renderable* owning = make(10, 10);
    owning->setPosition(1.5f, -2, 0);
    PropertyContainer* properties = owning->getProperties();
    EXPECT_NE(properties->findChild(u"collisionSensitivity"), nullptr);
    EXPECT_NE(properties->findChild(u"color"), nullptr);
    EXPECT_EQ(properties->findChild(u"pSkin"), nullptr);
    auto* position = static_cast<PropertyContainer*>(properties->findChild(u"position"));
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(wideToUtf8(position->describe()), "position(x:1.5,y:-2.0,z:0.0)");
    position->findChild(u"z")->fromString(u"7");
    EXPECT_EQ(owning->position.z, 7.0f);
    properties->destroy();
    owning->bOwnsSkin = 0;
    properties = owning->getProperties();
    EXPECT_NE(properties->findChild(u"pSkin"), nullptr);
    properties->destroy();
    owning->bOwnsSkin = 1;
}

TEST_F(RenderableTest, OwnedSkinsGoWithTheirObjectSharedOnesStay) {
    auto* shared = new Quad();
    context->addChild(shared);
    auto* r = new Renderable();
    r->pSkin = shared;
    context->addChild(r);
    r->destroy();
    EXPECT_EQ(shared->parent, context);
}
}  // namespace
