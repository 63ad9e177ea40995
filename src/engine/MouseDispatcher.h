#pragma once
// Delivers pointer events to the objects under the pointer, once per worked frame.
class Context;
class QorBase;

class MouseDispatcher {
public:
    MouseDispatcher() = default;
    virtual ~MouseDispatcher() = default;
    // Runs after the scene's tick with the scene as the root of hit searches.
    void update(Context* scene);
    // The object that receives every pointer event until released (null: none).
    void setCapture(QorBase* object);
};
