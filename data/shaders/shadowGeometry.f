#version 120
// Shadow volumes only touch the stencil buffer; colour writes are off.

void main()
{
    gl_FragColor = vec4(0.0);
}
